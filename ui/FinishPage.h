// FinishPage: the last page of both successful paths (template 203, step 6):
// what the install or the removal did, and a button that restarts Windows.
#pragma once

#include "ui/WindowBase.h"

class FinishPage : public WindowBase {
 public:
  FinishPage() {}
  ~FinishPage() override {}

  // Sets the heading and the result. 1; 0 without an application.
  int onInitDialog() override;
  // The restart button: asks the frame to restart and close. 1; else 0.
  int onCommand() override;

  // The result text after an install on a system of `versionCode`, with the
  // PDF note when no program opens PDF files (`associationMatch` 0).
  void composeInstallResult(int32_t versionCode, int32_t associationMatch, WString& out);
};
