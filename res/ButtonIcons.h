#pragma once

// Makes the command buttons' 16 x 16 icons (resources 137, 138, 139, 140, 144, 145 and 146)
// known to LoadImageA.
void RegisterButtonIcons();
