// Observer registration and delivery for controls.
#include "ISubject.h"

#include <algorithm>

ISubject::~ISubject() = default;

void ISubject::AddObserver(IObserverInterface* observer) {
  if (!mObservers) mObservers = std::make_unique<std::vector<IObserverInterface*>>();
  if (std::find(mObservers->begin(), mObservers->end(), observer) != mObservers->end()) return;
  mObservers->push_back(observer);
}

void ISubject::Deliver() {
  mNotifyPending = false;
  for (IObserverInterface* observer : *mObservers) observer->Update();
}
