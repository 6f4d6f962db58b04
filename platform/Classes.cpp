#include "platform/Classes.h"

#include <algorithm>
#include <cctype>

namespace {

bool SameTextAscii(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner)
{
    if (FOwner)
        FOwner->FComponents.push_back(this);
}

TComponent::~TComponent()
{
    FComponentState |= csDestroying;
    // Tell the components that asked, then forget them (both ways).
    std::vector<TComponent*> notifies;
    notifies.swap(FFreeNotifies);
    for (TComponent* c : notifies) {
        auto& theirs = c->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->Remove(this);
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        FComponents.pop_back();
        last->FOwner = nullptr;
        delete last;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextAscii(c->FName, name))
            return c;
    return nullptr;
}

void TComponent::Remove(TComponent* component)
{
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
}

void TComponent::FreeNotification(TComponent* other)
{
    if (!other || other == this)
        return;
    if (std::find(other->FFreeNotifies.begin(), other->FFreeNotifies.end(), this) == other->FFreeNotifies.end())
        other->FFreeNotifies.push_back(this);
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), other) == FFreeNotifies.end())
        FFreeNotifies.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    if (!other)
        return;
    auto& theirs = other->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), other), FFreeNotifies.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::SetComponentStateFlag(TComponentStateFlag flag, bool on)
{
    if (on)
        FComponentState |= flag;
    else
        FComponentState &= static_cast<TComponentState>(~flag);
}
