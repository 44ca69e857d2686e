#include "filedialogs.h"

#include <QFileDialog>

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

void setAskers(DirectoryAsker directory, FileAsker file)
{
    directoryAsker() = std::move(directory);
    fileAsker() = std::move(file);
}

} // namespace VaruFileDialogs
