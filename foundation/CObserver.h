#pragma once

class CObservable;

class CObserver
{
public:
    virtual ~CObserver() = default;
    virtual void Update(CObservable* notifier) = 0;
};
