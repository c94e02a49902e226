#pragma once
// Everything the program needs of the system, handed down from main().

#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace qvz::platform {

struct Platform {
    FileSystem& files;
    Application& application;
    Shell& shell;
};

}
