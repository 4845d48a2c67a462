// A workspace on fakes of every part of the platform.
#pragma once

#include <gtest/gtest.h>

#include "MemoryEntryView.h"
#include "MemoryFileSystem.h"
#include "MemoryProfileFile.h"
#include "MemoryRegistry.h"
#include "ScriptedBoxes.h"
#include "Workspace.h"

namespace tavro {

class FakeWorkspaceTest : public ::testing::Test {
 protected:
  MemoryEntryView view;
  ScriptedBoxes boxes;
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfileFile profiles{files};
  TWorkspace ws{
      view, boxes, {registry, files, profiles}, kMenuExtKey, "C:\\Program\\"};
};

}  // namespace tavro
