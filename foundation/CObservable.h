#pragma once
// A list of observers in attach order, not owned. Attach before any thread
// that notifies starts; there is no detach.
#include <list>

class CObserver;

class CObservable
{
public:
    virtual ~CObservable() = default;
    void AddObserver(CObserver* observer);
    // Calls Update(this) on each observer in attach order, on this thread.
    void NotifyObservers();

private:
    std::list<CObserver*> m_observers;
};
