#include "CObservable.h"

#include "CObserver.h"

void CObservable::AddObserver(CObserver* observer)
{
    m_observers.push_back(observer);
}

void CObservable::NotifyObservers()
{
    for (CObserver* observer : m_observers)
        observer->Update(this);
}
