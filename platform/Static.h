#pragma once
#include "platform/Wnd.h"
// CStatic: a static text or frame of a template. With SS_NOTIFY a click (left button
// released over it) sends STN_CLICKED to the parent, which reflects it back first.

class CStatic : public CWnd {};
