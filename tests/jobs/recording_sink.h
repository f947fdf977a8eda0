#pragma once
// A status sink that keeps every text it is given, in order.
#include <string>
#include <vector>

#include "archiver/driver/status_sink.h"

namespace testsupport {

struct RecordingSink {
    std::vector<std::string> texts;
    StatusSink sink() {
        return [this](const std::string& text) { texts.push_back(text); };
    }
};

}  // namespace testsupport
