#pragma once
// Resource identifiers shared by pimingbao.rc and the code that loads them.
#define PIMINGBAO_ICON 1
