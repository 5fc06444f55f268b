// The object model the components share: a root class with a class name,
// persistent objects that copy their settings with Assign, the framework's
// assignment error and the plain notification callback.
#pragma once

#include "../canvas/kurvo_export.h"

#include <functional>
#include <stdexcept>
#include <string>

namespace kurvo {

/// The root of the class tree.
class KURVO_EXPORT TObject {
public:
    /// Destroys the object.
    virtual ~TObject() = default;
    /// The name of the object's class, as in messages ("TKurvo", "TScale", ...).
    virtual std::string ClassName() const { return "TObject"; }
};

/// A plain notification: `sender` is the object that raises it.
using TNotifyEvent = std::function<void(TObject* sender)>;

/// The framework's assignment error: "Cannot assign a TX to a TY".
class KURVO_EXPORT EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A persistent object copies its settings from another one with Assign. A
/// class that knows the source copies; otherwise the source is asked through
/// AssignTo, and when nobody knows the pair the assignment error is raised.
class KURVO_EXPORT TPersistent : public TObject {
public:
    /// Copies the settings of `source`; raises EConvertError when neither
    /// class knows the pair.
    virtual void Assign(const TPersistent& source) { source.AssignTo(*this); }
    /// Copies the own settings into `dest` when this class knows it; the base
    /// raises EConvertError.
    virtual void AssignTo(TPersistent& dest) const { AssignError(dest); }
    std::string ClassName() const override { return "TPersistent"; }

protected:
    /// Raises EConvertError "Cannot assign a <source class> to a <destination class>".
    [[noreturn]] void AssignError(const TObject& dest) const
    {
        throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
    }
};

}  // namespace kurvo
