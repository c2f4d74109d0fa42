#include "common/errortext.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <cerrno>

using namespace Qt::Literals::StringLiterals;

namespace {

// The errno values that have a sentence of their own.
const int KnownErrors[] = {ENOSPC, EFBIG,  EDQUOT, EACCES,       EPERM, EROFS,
                           ENOENT, EISDIR, ENOTDIR, ENAMETOOLONG, EIO,   EMFILE,
                           ENFILE, ENOMEM, EBUSY,  ETXTBSY,      ELOOP};

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString folderOf(const QString &path)
{
    return shown(QFileInfo(path).absolutePath());
}

QString withDetail(const QString &sentence, const QString &detail)
{
    const QString text = detail.trimmed();
    return text.isEmpty() ? sentence : sentence + u" ("_s + text + u')';
}

bool isFullDisk(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

QString fullDisk(const QString &path)
{
    return u"Недостаточно места на диске: файл «%1» не записан. Освободите место на диске "
           "или сохраните файл в другую папку."_s.arg(shown(path));
}

/// The sentence without the system's text; empty for an errno that has none.
QString errnoSentence(int error, const QString &path, FileAction action)
{
    const bool write = action == FileAction::Write;
    if (isFullDisk(error))
        return fullDisk(path);
    switch (error) {
    case EACCES:
    case EPERM: {
        if (!write)
            return u"Нет прав на чтение файла «%1». Попросите владельца файла открыть доступ "
                   "к нему или откройте его копию."_s.arg(shown(path));
        const QFileInfo file(path);
        if (file.exists() && !file.isDir())
            return u"Нет прав на запись в файл «%1». Сохраните список под другим именем "
                   "или в другую папку."_s.arg(shown(path));
        return u"Нет прав на запись в папку «%1». Сохраните файл в другую папку, например "
               "в папку документов."_s.arg(folderOf(path));
    }
    case EROFS:
        return u"Нет прав на запись в папку «%1»: диск открыт только для чтения. Сохраните "
               "файл в другую папку."_s.arg(folderOf(path));
    case ENOENT:
        if (write)
            return u"Папка «%1» не найдена. Выберите существующую папку."_s.arg(folderOf(path));
        return u"Файл «%1» не найден. Проверьте имя файла и папку."_s.arg(shown(path));
    case EISDIR:
        return u"«%1» — это папка, а не файл. Выберите файл."_s.arg(shown(path));
    case ENOTDIR:
    case ELOOP:
        return u"Путь «%1» не ведёт к файлу: одна из его папок не существует или не является "
               "папкой."_s.arg(shown(path));
    case ENAMETOOLONG:
        return u"Слишком длинное имя файла «%1». Выберите имя короче."_s.arg(shown(path));
    case EIO:
        return (write ? u"Ошибка записи на диск: файл «%1» не записан. Проверьте диск или "
                        "сохраните файл в другое место."_s
                      : u"Ошибка чтения с диска: файл «%1» не прочитан. Проверьте диск или "
                        "носитель."_s)
            .arg(shown(path));
    case EMFILE:
    case ENFILE:
        return u"Открыто слишком много файлов, и файл «%1» открыть не удалось. Закройте "
               "лишние программы и повторите."_s.arg(shown(path));
    case ENOMEM:
        return u"Недостаточно памяти для файла «%1». Закройте лишние программы и "
               "повторите."_s.arg(shown(path));
    case EBUSY:
    case ETXTBSY:
        return u"Файл «%1» занят другой программой. Закройте её и повторите."_s.arg(
            shown(path));
    default: return QString();
    }
}

QString generalSentence(const QString &path, FileAction action)
{
    return (action == FileAction::Write ? u"Не удалось записать файл «%1»."_s
                                        : u"Не удалось прочитать файл «%1»."_s)
        .arg(shown(path));
}

/// The errno whose text is systemText; Qt builds a device's error string from
/// qt_error_string(errno), so the text names the cause even after errno has moved on.
int errnoOfText(const QString &systemText)
{
    for (const int error : KnownErrors)
        if (systemText == qt_error_string(error))
            return error;
    return 0;
}

/// A cause guessed from the file system when the text names none.
int errnoOfPath(const QString &path, FileAction action)
{
    const QFileInfo file(path);
    if (action == FileAction::Read) {
        if (!file.exists())
            return ENOENT;
        if (file.isDir())
            return EISDIR;
        return file.isReadable() ? 0 : EACCES;
    }
    if (file.isDir())
        return EISDIR;
    if (file.exists())
        return file.isWritable() ? 0 : EACCES;
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return ENOENT;
    return folder.isWritable() ? 0 : EACCES;
}

} // namespace

QString errnoMessage(int error, const QString &path, FileAction action)
{
    QString sentence = errnoSentence(error, path, action);
    if (sentence.isEmpty())
        sentence = generalSentence(path, action);
    return withDetail(sentence, error ? qt_error_string(error) : QString());
}

QString fileErrorMessage(const QFileDevice &file, FileAction action)
{
    return fileErrorMessage(file.error(), file.errorString(), file.fileName(), action);
}

QString fileErrorMessage(QFileDevice::FileError error, const QString &systemText,
                         const QString &path, FileAction action)
{
    int cause = errnoOfText(systemText);
    // Qt reports a write that hit a full disk as a resource error.
    if (!cause && error == QFileDevice::ResourceError && action == FileAction::Write)
        cause = ENOSPC;
    if (!cause)
        cause = errnoOfPath(path, action);
    QString sentence = errnoSentence(cause, path, action);
    if (sentence.isEmpty())
        sentence = generalSentence(path, action);
    return withDetail(sentence, systemText);
}

QString databaseErrorMessage(int resultCode, const QString &path, const QString &sqliteText,
                             int systemErrno)
{
    QString sentence;
    switch (resultCode & 0xff) {
    case SQLITE_NOTADB:
        sentence = u"Файл «%1» не является базой данных. Выберите другой файл."_s.arg(
            shown(path));
        break;
    case SQLITE_FULL: sentence = fullDisk(path); break;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: {
        // The system's own cause, when SQLite kept it, says more than the code.
        int cause = systemErrno;
        if (!cause && (resultCode & 0xff) == SQLITE_CANTOPEN)
            cause = errnoOfPath(path, FileAction::Read);
        const bool writing =
            (resultCode & 0xff) == SQLITE_IOERR && resultCode != SQLITE_IOERR_READ;
        sentence = errnoSentence(cause, path, writing ? FileAction::Write : FileAction::Read);
        // SQLite keeps the errno of a failed write only by chance; a full disk is its
        // usual cause.
        if (sentence.isEmpty())
            sentence = (resultCode & 0xff) == SQLITE_CANTOPEN
                ? u"Не удалось открыть базу данных «%1». Проверьте права на файл и его "
                  "папку."_s.arg(shown(path))
                : writing
                ? u"Не удалось записать базу данных «%1»: на диске не хватает места или диск "
                  "недоступен. Освободите место на диске или сохраните файл в другую "
                  "папку."_s.arg(shown(path))
                : u"Ошибка чтения базы данных «%1». Проверьте диск."_s.arg(shown(path));
        break;
    }
    case SQLITE_READONLY:
        sentence = u"Нет прав на запись в базу данных «%1». Сохраните её в другую папку."_s.arg(
            shown(path));
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        sentence = u"Нет прав на доступ к базе данных «%1»."_s.arg(shown(path));
        break;
    case SQLITE_CORRUPT:
        sentence = u"База данных «%1» повреждена. Откройте её копию или другой файл."_s.arg(
            shown(path));
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        sentence = u"База данных «%1» занята другой программой. Закройте её и повторите."_s.arg(
            shown(path));
        break;
    case SQLITE_NOMEM:
        sentence = u"Недостаточно памяти для работы с базой данных «%1». Закройте лишние "
                   "программы и повторите."_s.arg(shown(path));
        break;
    default: sentence = u"Ошибка базы данных «%1»."_s.arg(shown(path)); break;
    }
    return withDetail(sentence, sqliteText);
}
