#pragma once
// Resource numbers of update.exe.
#define kIconUpdater 1
