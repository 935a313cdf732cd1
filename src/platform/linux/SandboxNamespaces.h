#pragma once

namespace vrx {

// Whether this process may make the namespaces Chromium's sandbox puts its
// helper processes in: a user namespace with PID and network namespaces in
// it. Some systems forbid that to ordinary programs (a kernel limit, or an
// AppArmor rule for programs without a profile of their own, as Ubuntu
// 24.04 has by default), and Chromium's helpers then cannot start sandboxed.
// Tries it in a short-lived child process.
bool CanMakeSandboxNamespaces();

}  // namespace vrx
