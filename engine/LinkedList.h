// Intrusive doubly linked list (first, last) for the engine's pooled records; it owns nothing.
#pragma once

// T has public members `T* next` and `T* prev`.
template <typename T>
struct LinkedList {
  T* first = nullptr;
  T* last = nullptr;

  bool empty() const { return first == nullptr; }

  void PushBack(T* item) {
    item->next = nullptr;
    item->prev = last;
    if (last)
      last->next = item;
    else
      first = item;
    last = item;
  }

  T* PopFront() {
    T* item = first;
    if (item) Unlink(item);
    return item;
  }

  // Puts item in front of pos, which is in this list.
  void InsertBefore(T* pos, T* item) {
    item->next = pos;
    item->prev = pos->prev;
    if (pos->prev)
      pos->prev->next = item;
    else
      first = item;
    pos->prev = item;
  }

  void Unlink(T* item) {
    if (item->prev)
      item->prev->next = item->next;
    else
      first = item->next;
    if (item->next)
      item->next->prev = item->prev;
    else
      last = item->prev;
    item->next = item->prev = nullptr;
  }

  // Moves every item of other to the back of this list.
  void SpliceBack(LinkedList& other) {
    if (other.empty()) return;
    if (last) {
      last->next = other.first;
      other.first->prev = last;
    } else {
      first = other.first;
    }
    last = other.last;
    other.first = other.last = nullptr;
  }

  bool contains(const T* item) const {
    for (const T* p = first; p; p = p->next)
      if (p == item) return true;
    return false;
  }

  int size() const {
    int n = 0;
    for (const T* p = first; p; p = p->next) ++n;
    return n;
  }

  // Frees every item; only for the owner's destructor.
  void DeleteAll() {
    while (T* item = PopFront()) delete item;
  }
};
