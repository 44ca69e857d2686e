#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

class QStringListModel;
class VaruAliasFetchTool;

// The aliases of the keystore a page is editing: listed with keytool on demand, cached per
// keystore path and password (a failed listing caches an empty list), and shown in a model.
// An answer for a path or password that has been edited since only fills the cache.
class VaruAliasLookup : public QObject
{
    Q_OBJECT

public:
    explicit VaruAliasLookup(QObject *parent = nullptr);

    // Shows the aliases of path and password: from the cache, or by a listing whose answer
    // comes later. A password under 6 characters, or no file at path, shows none.
    void refresh(const QString &path, const QString &password);
    // Lists without looking at the cache or the conditions (the lister checks its own).
    void list(const QString &path, const QString &password);
    void clearCache() { mCache.clear(); }
    void clear();
    QStringListModel *model() const { return mModel; }

private:
    void onListed(const QString &path, const QString &password, const QStringList &aliases);

    VaruAliasFetchTool *mFetch;
    QStringListModel *mModel;
    QMap<QString, QStringList> mCache;
    QString mPath;
    QString mPassword;
};
