#pragma once
#include "platform/Wnd.h"
// CEdit: a single-line edit control of a template; its text is the window text.

class CEdit : public CWnd {};
