#pragma once
// Components: objects with an owner that frees them, a name and a tag.
//
// An owner keeps the components it owns in creation order and frees them, last
// created first, when it is destroyed. A component freed earlier leaves its owner's
// list by itself. Free notification: a component that holds a reference to another
// asks it (FreeNotification) to be told when it goes, and clears the reference in
// Notification.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

enum TOperation { opInsert, opRemove };

// Design-time states; at run time only csDestroying and csLoading ever show.
enum TComponentStateFlag : uint8_t { csLoading = 1, csReading = 2, csDesigning = 4, csDestroying = 8 };
using TComponentState = uint8_t;

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
    // Frees every owned component, last created first.
    void DestroyComponents();
    // The owned component with this name (compared without regard to ASCII case), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    // Pointer-sized: a tag may hold an address.
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t tag) { FTag = tag; }

    TComponentState ComponentState() const { return FComponentState; }

    // Runs after a layout has been built (constructors of derived classes call it
    // when they have set their properties); the default does nothing.
    virtual void Loaded() {}

    // Asks `other` to call this component's Notification(other, opRemove) when it goes.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentStateFlag(TComponentStateFlag flag, bool on);

private:
    void Remove(TComponent* component);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    intptr_t FTag = 0;
    TComponentState FComponentState = 0;
};
