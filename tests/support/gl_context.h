// GL test support: one window with a current GL context for the whole test program.
#pragma once

namespace vurkhold::test {

// Opens the window on first use (under Xvfb in the suite); true when a context is current.
bool ensure_gl_context();

}  // namespace vurkhold::test
