#pragma once

/// The folder for the session's sockets and the like (XDG_RUNTIME_DIR).
namespace RuntimeDir {

/// Where the session has none (a start as root on a bare system, under Xvfb), makes the private
/// one that Qt would fall back to, runtime-<user> in the temporary folder, and names it in the
/// environment, so Qt has no reason to warn. A folder of that name that is not this user's alone
/// is left to Qt, which says so. Call before the application object exists.
void prepare();

} // namespace RuntimeDir
