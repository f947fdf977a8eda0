// pimingbao.exe --screenshot: one picture of each page.
#include "ui/win32/screenshot.h"

#include "tests/ui_win32/stored_png_reader.h"
#include "tests/ui_win32/window_fixture.h"

namespace {

TEST_F(WindowTest, ScreenshotsShowEachPageAndLeaveTheCurrentOne) {
    showPage(1);
    const auto dir = tmp / "截图";
    ASSERT_EQ(win32ui::saveScreenshots(*window, dir), "");
    EXPECT_EQ(window->pages().current(), 1);
    RECT client;
    ::GetClientRect(window->hwnd(), &client);
    win32ui::RgbImage pages[4];
    for (int i = 0; i < 4; ++i) {
        std::string problem;
        auto image = readStoredPng(readWholeFile(dir / ("page-" + std::to_string(i + 1) + ".png")), problem);
        ASSERT_TRUE(image) << i << ": " << problem;
        pages[i] = *image;
        EXPECT_EQ(pages[i].width, client.right);
        EXPECT_EQ(pages[i].height, client.bottom);
        EXPECT_EQ(pages[i].at(3, 3), (win32ui::RgbImage::Rgb{0, 136, 255}));
    }
    // Page 1 shows the yellow path box, page 3 the blue delete list where page 4 has none.
    EXPECT_EQ(pages[0].at(7 + 150, 8 + 43), (win32ui::RgbImage::Rgb{255, 255, 0}));
    EXPECT_EQ(pages[2].at(7 + 100, 8 + 200), (win32ui::RgbImage::Rgb{0, 0, 255}));
    EXPECT_EQ(pages[3].at(7 + 100, 8 + 200), (win32ui::RgbImage::Rgb{0, 136, 255}));
    EXPECT_NE(pages[0].pixels, pages[1].pixels);
    // The results picture: the first page with rows, the failed ones in their own fill,
    // and the list is empty again afterwards.
    std::string problem;
    auto results = readStoredPng(readWholeFile(dir / "results.png"), problem);
    ASSERT_TRUE(results) << problem;
    bool failedFill = false;
    for (int y = 8 + 61; y < 8 + 61 + 310 && !failedFill; ++y) {
        failedFill = results->at(7 + 10 + 2 + 300 + 200, y) == win32ui::RgbImage::Rgb{192, 0, 0};
    }
    EXPECT_TRUE(failedFill);
    EXPECT_TRUE(window->list(Control::超级列表框_文件).rows().empty());

    tmp.write("file.txt", "");
    EXPECT_NE(win32ui::saveScreenshots(*window, tmp / "file.txt" / "x"), "");
}

}  // namespace
