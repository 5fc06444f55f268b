// Layer coupling: layer L's X (or Y) range follows layer C's.
#pragma once

#include "../canvas/kurvo_export.h"

#include "../canvas/Qorn_object.h"

#include <array>

namespace kurvo {

class TCustomKurvo;

/// Couples the ranges of layers: a joined layer follows the X or Y range of
/// its controlling layer.
class KURVO_EXPORT TJointLayers : public TPersistent {
public:
    /// Number of layers.
    static constexpr int LayerCount = 16;

    /// Every layer free; `owner` is the chart the checks and repaints refer to.
    explicit TJointLayers(TCustomKurvo* owner = nullptr);

    /// The layer whose X (Y) range layer `layer` follows; itself when free.
    int XControlledBy(int layer) const;
    /// The layer whose Y range `layer` follows; itself when free.
    int YControlledBy(int layer) const;
    /// Join layer `layer` to `controller` (or free it with controller = layer).
    /// Raises EQornKurvoError for an out-of-range or already joined
    /// destination and for a layer that others are joined to.
    void SetXControlledBy(int layer, int controller);
    /// Joins the Y range of `layer` to `controller`; see SetXControlledBy().
    void SetYControlledBy(int layer, int controller);

    ///@{
    /// The published per-layer names, L01xControlledBy ... L16yControlledBy.
    int LxControlledBy(int layer) const { return XControlledBy(layer); }
    /// Sets LxControlledBy().
    void SetLxControlledBy(int layer, int controller) { SetXControlledBy(layer, controller); }
    ///@}

    ///@{
    /// The chart the coupling belongs to, not owned.
    TCustomKurvo* Owner() const { return FOwner; }
    void SetOwner(TCustomKurvo* owner) { FOwner = owner; }
    ///@}

    /// Copies both tables, the change callback and the owner, without checks.
    void Assign(const TPersistent& source) override;
    std::string ClassName() const override { return "TJointLayers"; }

    /// Raised after a change of the coupling; the chart repaints.
    TNotifyEvent OnChange;

private:
    void SetControlledBy(bool isX, int layer, int controller);

    std::array<int, LayerCount + 1> FX{};
    std::array<int, LayerCount + 1> FY{};
    TCustomKurvo* FOwner;
};

}  // namespace kurvo
