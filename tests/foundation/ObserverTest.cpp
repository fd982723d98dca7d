#include "foundation/CObservable.h"
#include "foundation/CObserver.h"
#include "foundation/CObserverDialog.h"
#include "foundation/CPrivateException.h"
#include "support/CScriptedPrompts.h"

#include <QCoreApplication>
#include <QThread>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

class Recorder : public CObserver
{
public:
    Recorder(int id, std::vector<int>& log) : m_id(id), m_log(log) {}
    void Update(CObservable* notifier) override
    {
        m_log.push_back(m_id);
        last = notifier;
    }
    CObservable* last = nullptr;

private:
    int m_id;
    std::vector<int>& m_log;
};

class WatchingDialog : public CObserverDialog
{
public:
    WatchingDialog() : CObserverDialog(150) {}
    std::vector<CObservable*> seen;
    bool allOnGuiThread = true;

protected:
    void OnUpdateObserver(CObservable* notifier) override
    {
        seen.push_back(notifier);
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
    }
};

} // namespace

TEST(Observer, NotifiesInAttachOrderOnTheCallingThread)
{
    std::vector<int> log;
    Recorder first(1, log), second(2, log), third(3, log);
    {
        CObservable observable;
        observable.NotifyObservers(); // none attached: nothing happens
        observable.AddObserver(&second);
        observable.AddObserver(&first);
        observable.AddObserver(&third);
        observable.AddObserver(&second); // twice attached, twice called
        observable.NotifyObservers();
        EXPECT_EQ(first.last, &observable);
    }
    EXPECT_EQ(log, (std::vector<int>{2, 1, 3, 2}));
    // The observable is gone; its observers are not.
    first.Update(nullptr);
    EXPECT_EQ(log.back(), 1);
}

TEST(Observer, DialogSeesWorkerNotificationsLaterInOrderOnTheGuiThread)
{
    WatchingDialog dialog;
    CObservable a, b;
    a.AddObserver(&dialog);
    b.AddObserver(&dialog);

    std::thread worker([&] {
        for (int i = 0; i < 10; ++i)
            (i % 3 == 2 ? b : a).NotifyObservers();
    });
    worker.join();
    EXPECT_TRUE(dialog.seen.empty()) << "nothing runs before the GUI thread's loop";

    QTRY_COMPARE_WITH_TIMEOUT(dialog.seen.size(), std::size_t(10), 5000);
    const std::vector<CObservable*> expected{&a, &a, &b, &a, &a, &b, &a, &a, &b, &a};
    EXPECT_EQ(dialog.seen, expected);
    EXPECT_TRUE(dialog.allOnGuiThread);
}

TEST(Observer, NotificationsForADialogThatIsGoneAreDropped)
{
    CObservable observable;
    auto dialog = std::make_unique<WatchingDialog>();
    observable.AddObserver(dialog.get());
    std::thread([&] { observable.NotifyObservers(); }).join();
    dialog.reset();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    SUCCEED();
}

TEST(Observer, AFailingHookIsShownOnceAndGoesNoFurther)
{
    class FailingDialog : public CObserverDialog
    {
    public:
        FailingDialog() : CObserverDialog(150) {}
        int calls = 0;

    protected:
        void OnUpdateObserver(CObservable*) override
        {
            ++calls;
            throw CPrivateException(QStringLiteral("Lost the unit"));
        }
    };
    CScriptedPrompts prompts;
    FailingDialog dialog;
    CObservable observable;
    observable.AddObserver(&dialog);
    std::thread([&] { observable.NotifyObservers(); }).join();
    QTRY_COMPARE_WITH_TIMEOUT(dialog.calls, 1, 5000);
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.Last().text, "Lost the unit");
}
