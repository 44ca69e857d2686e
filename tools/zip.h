#pragma once

#include <QObject>
#include <QString>

// Drives the zip and unzip tools: extracts one entry of an archive, or adds one file to
// an archive's root. Callers learn the outcome of an extraction from the files that exist
// afterwards; an addition reports whether zip succeeded.
class VaruZip : public QObject
{
public:
    static VaruZip *instance();

    // Adds file to archive under its bare name, replacing an entry of that name. zip runs
    // in the file's folder; the process's own current folder is never changed. False when
    // zip failed (an archive it cannot read or write, a full disk).
    bool zip(const QString &archive, const QString &file);
    void unzip(const QString &archive, const QString &entry, const QString &destDir);
    // Removes the entries that match the patterns (zip's wildcards).
    void remove(const QString &archive, const QStringList &patterns);
    // The entry names of an archive.
    QStringList entries(const QString &archive);

private:
    VaruZip() = default;
};

// Copies a file as the system copies it (in the kernel where it can), replacing target.
bool varuCopyFile(const QString &source, const QString &target);
