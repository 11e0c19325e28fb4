// Every service the program uses, handed to the main window at creation.
#pragma once

#include "platform/background.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/input.h"
#include "platform/kernel.h"
#include "platform/multimedia.h"
#include "platform/shell.h"
#include "platform/windowing.h"

namespace kavri {

struct Platform {
    Kernel& kernel;
    Shell& shell;
    Multimedia& multimedia;
    Windowing& windowing;
    FileSystem& files;
    Clock& clock;
    CodePage& codePage;
    Background& background;
    Input& input;
};

}  // namespace kavri
