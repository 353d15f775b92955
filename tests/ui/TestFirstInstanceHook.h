// What the test program's first-instance hook saw.
#pragma once

namespace uitest {
int FirstInstanceHookCalls();
void* FirstInstanceHookInstance();
void ResetFirstInstanceHook();
}  // namespace uitest
