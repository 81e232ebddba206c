// Whether a graphical display can be reached, asked without loading any
// window library.
#pragma once

namespace tessa {

// True when a graphical display can be reached: a Wayland socket, or an X
// display whose local socket exists (a remote X display is trusted).
bool bDisplayAvailable();

}  // namespace tessa
