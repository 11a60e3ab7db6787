// An object that follows a subject (a control) and is told once per dirty scan that the subject changed.
#pragma once

class IObserverInterface {
 public:
  virtual void Update() = 0;
  virtual ~IObserverInterface() = default;
};
