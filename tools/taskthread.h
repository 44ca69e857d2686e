#pragma once

#include <QThread>

namespace Task {

// Base of the job threads: a QThread of its own kind whose body does nothing; the job
// threads override the body with their work.
class Thread : public QThread
{
    Q_OBJECT

public:
    Thread();

protected:
    void run() override;
};

} // namespace Task
