#include "aliaslookup.h"

#include "tools/aliasfetchtool.h"

#include <QFile>
#include <QStringListModel>

VaruAliasLookup::VaruAliasLookup(QObject *parent)
    : QObject(parent), mFetch(new VaruAliasFetchTool(this)), mModel(new QStringListModel(this))
{
    connect(mFetch, &VaruAliasFetchTool::sigAliasListCallback, this,
        [this](const QString &path, const QString &password, const QStringList &aliases, int) {
            onListed(path, password, aliases);
        });
}

void VaruAliasLookup::refresh(const QString &path, const QString &password)
{
    mPath = path;
    mPassword = password;
    if (password.size() >= 6 && !path.isEmpty() && QFile::exists(path)) {
        const auto cached = mCache.constFind(path + password);
        if (cached != mCache.constEnd())
            mModel->setStringList(cached.value());
        else
            mFetch->getAliasName(path, password);
        return;
    }
    mModel->setStringList({});
}

void VaruAliasLookup::list(const QString &path, const QString &password)
{
    mPath = path;
    mPassword = password;
    mFetch->getAliasName(path, password);
}

void VaruAliasLookup::clear()
{
    mCache.clear();
    mPath.clear();
    mPassword.clear();
    mModel->setStringList({});
}

void VaruAliasLookup::onListed(
    const QString &path, const QString &password, const QStringList &aliases)
{
    mCache.insert(path + password, aliases);
    if (path == mPath && password == mPassword)
        mModel->setStringList(aliases);
}
