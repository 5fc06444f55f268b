#include "chart/joint_layers.h"

#include "base/errors.h"
#include "chart/Qorn_kurvo.h"
#include "chart/kurvo_private.h"

#include <string>

namespace kurvo {

TJointLayers::TJointLayers(TCustomKurvo* owner) : FOwner(owner)
{
    for (int i = 0; i <= LayerCount; ++i) FX[i] = FY[i] = i;
}

int TJointLayers::XControlledBy(int layer) const { return FX[ClampLayer(layer)]; }

int TJointLayers::YControlledBy(int layer) const { return FY[ClampLayer(layer)]; }

void TJointLayers::SetXControlledBy(int layer, int controller) { SetControlledBy(true, layer, controller); }

void TJointLayers::SetYControlledBy(int layer, int controller) { SetControlledBy(false, layer, controller); }

void TJointLayers::SetControlledBy(bool isX, int layer, int controller)
{
    const int n = ClampLayer(layer);
    auto& table = isX ? FX : FY;
    if (controller < 1 || controller > LayerCount)
        throw EQornKurvoError("Destination layer " + std::to_string(controller) + " is out of range");
    if (controller == n) {
        table[n] = n;
        return;
    }
    if (table[controller] != controller)
        throw EQornKurvoError("Destination layer " + std::to_string(controller) + " is already joined");
    std::string joined;
    for (int i = 1; i <= LayerCount; ++i) {
        if (i == n || table[i] != n) continue;
        if (!joined.empty()) joined += ", ";
        joined += std::to_string(i);
    }
    if (!joined.empty())
        throw EQornKurvoError("Layer " + std::to_string(n) + " is joined by other layers (" + joined + ")");
    table[n] = controller;
    if (FOwner != nullptr) {
        if (isX)
            FOwner->ApplyLayerRange(n, false, FOwner->ScaleX(controller)->RangeLow(), FOwner->ScaleY(n)->RangeLow(),
                                    FOwner->ScaleX(controller)->RangeHigh(), FOwner->ScaleY(n)->RangeHigh(), false);
        else
            FOwner->ApplyLayerRange(n, false, FOwner->ScaleX(n)->RangeLow(), FOwner->ScaleY(controller)->RangeLow(),
                                    FOwner->ScaleX(n)->RangeHigh(), FOwner->ScaleY(controller)->RangeHigh(), false);
    }
    if (OnChange) OnChange(this);
}

void TJointLayers::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TJointLayers*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    FX = other->FX;
    FY = other->FY;
    OnChange = other->OnChange;
    FOwner = other->FOwner;
}

}  // namespace kurvo
