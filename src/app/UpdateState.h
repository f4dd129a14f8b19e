// The one program-wide state record, created by InitState at start-up and
// released by ExitCleanup, once, on the user-interface thread.
#pragma once

#include <memory>
#include <string>

#include "platform/xml/XmlTree.h"

struct UpdateState {
    std::unique_ptr<XmlTree> manifest;
    std::string downloadAddress;
};

extern UpdateState updateState;

void InitState();
void ExitCleanup();

// RunDirectory, the separator and `name`.
std::string RunPath(const char* name);
