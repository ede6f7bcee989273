// The small application framework of our own, in one include: application,
// command targets, windows, frames, views and documents, modal dialogs, menus,
// tooltips, the open-file dialog, the resource module, printing and print
// preview.
#pragma once

#include "framework/cmdtarget.h"
#include "framework/dialog.h"
#include "framework/document.h"
#include "framework/filedialog.h"
#include "framework/framewnd.h"
#include "framework/menu.h"
#include "framework/module.h"
#include "framework/print.h"
#include "framework/print_preview.h"
#include "framework/tooltip.h"
#include "framework/view.h"
#include "framework/winapp.h"
#include "framework/wnd.h"
