// The editor's document: it holds nothing, since profiles are kept by the
// profile store and written by the view's commands.
#pragma once

#include "framework/document.h"

namespace kl {

class CKLoomDoc : public CDocument {};

}  // namespace kl
