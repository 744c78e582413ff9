#pragma once

#include <memory>

#include "screen/screen_model.h"

// The screen model a control shows: the window's, shared by its controls,
// or, for a control used on its own, one of its own started in the working
// folder with the drives of `roots`.
class ScreenView {
 protected:
  explicit ScreenView(screen::ScreenModel* shared,
                      const screen::DriveSource& roots = screen::MountedRoots)
      : own_(shared != nullptr ? nullptr : std::make_unique<screen::ScreenModel>(roots)),
        model_(shared != nullptr ? *shared : *own_) {}

 private:
  std::unique_ptr<screen::ScreenModel> own_;

 protected:
  screen::ScreenModel& model_;
};
