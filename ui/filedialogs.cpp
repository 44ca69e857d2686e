#include "filedialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace VaruFileDialogs {

namespace {
DirectoryAsker &directoryAsker()
{
    static DirectoryAsker asker;
    return asker;
}
FileAsker &fileAsker()
{
    static FileAsker asker;
    return asker;
}
} // namespace

QString existingDirectory(QWidget *parent, const QString &caption, const QString &start)
{
    if (directoryAsker())
        return directoryAsker()(parent, caption, start);
    return QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
}

QString openFileName(
    QWidget *parent, const QString &caption, const QString &start, const QString &filter)
{
    if (fileAsker())
        return fileAsker()(parent, caption, start, filter);
    return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString keystoreFile(QWidget *parent, const QString &current)
{
    const QString start
        = current.isEmpty() ? QStringLiteral(".") : QFileInfo(current).absolutePath();
    return openFileName(parent, QStringLiteral("打开Keystore文件"), start,
        QStringLiteral("Keystore Files(*.keystore *.jks);;All files (*.*)"));
}

void setAskers(DirectoryAsker directory, FileAsker file)
{
    directoryAsker() = std::move(directory);
    fileAsker() = std::move(file);
}

} // namespace VaruFileDialogs
