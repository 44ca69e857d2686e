#pragma once

#include <QObject>

class VaruUserModel;

// Base of every page controller: loads its page when a user signs in and unloads it when
// the user signs out. Every controller is registered with, and owned by, the controller set.
class VaruBaseController : public QObject
{
    Q_OBJECT

public:
    explicit VaruBaseController(QObject *parent = nullptr);

    bool isLoaded() const { return mLoaded; }
    // Loads the page when a user is signed in and it is not loaded yet.
    virtual void loadUiIfLoggedIn();

signals:
    void sigLoadUi();
    void sigUnloadUi();

public slots:
    void onUserStateChanged(VaruUserModel *user, bool enter);

protected:
    virtual void beforeLoadUi() { }
    virtual void afterLoadUi() { }
    virtual void beforeUnloadUi() { }
    virtual void afterUnloadUi() { }

private:
    void loadUi();
    void unloadUi();

    bool mLoaded = false;
};
