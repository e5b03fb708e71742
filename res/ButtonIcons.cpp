#include "res/ButtonIcons.h"

#include "platform/Icons.h"

namespace {
#include "res/icon137.xpm"
#include "res/icon138.xpm"
#include "res/icon139.xpm"
#include "res/icon140.xpm"
#include "res/icon144.xpm"
#include "res/icon145.xpm"
#include "res/icon146.xpm"
}  // namespace

void RegisterButtonIcons() {
  RegisterIconResource(137, icon137_xpm);
  RegisterIconResource(138, icon138_xpm);
  RegisterIconResource(139, icon139_xpm);
  RegisterIconResource(140, icon140_xpm);
  RegisterIconResource(144, icon144_xpm);
  RegisterIconResource(145, icon145_xpm);
  RegisterIconResource(146, icon146_xpm);
}
