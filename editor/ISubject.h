// The observable side of the editor's observer pattern: every control is a subject.
#pragma once

#include <memory>
#include <vector>

#include "IObserverInterface.h"

class ISubject {
 public:
  ISubject() = default;
  virtual ~ISubject();
  ISubject(const ISubject&) = delete;
  ISubject& operator=(const ISubject&) = delete;

  // Adds an observer once; the subject never owns its observers.
  void AddObserver(IObserverInterface* observer);
  // Delivers a pending notification; several changes between two calls give one Update per observer.
  void NotifyObservers() {
    if (mNotifyPending && mObservers) Deliver();
  }
  bool NotifyPending() const { return mNotifyPending; }

 protected:
  std::unique_ptr<std::vector<IObserverInterface*>> mObservers;
  bool mNotifyPending = false;

 private:
  void Deliver();
};
