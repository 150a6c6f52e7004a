#include "runtime_dir.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RuntimeDir {

void prepare()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::getuid();
    const passwd *user = ::getpwuid(uid);
    const QByteArray name = user && user->pw_name ? QByteArray(user->pw_name) : QByteArray::number(uid);
    const QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/runtime-" + name;
    ::mkdir(dir.constData(), 0700);
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid
        || (st.st_mode & 0777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", dir);
}

} // namespace RuntimeDir
