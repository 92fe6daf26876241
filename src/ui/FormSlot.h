// One window of a kind, created with its initial contents the first time it is touched,
// kept (shown or hidden) until it is unloaded, and created afresh at the next touch.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace kestrel {

template <typename Form>
class FormSlot {
public:
    explicit FormSlot(std::function<Form*()> create) : create_(std::move(create)) {}
    ~FormSlot() { delete form_.data(); }
    FormSlot(const FormSlot&) = delete;
    FormSlot& operator=(const FormSlot&) = delete;

    // The window, created hidden if it does not exist.
    Form& Get() {
        if (!form_) form_ = create_();
        return *form_;
    }
    bool Loaded() const { return !form_.isNull(); }
    Form* IfLoaded() const { return form_.data(); }

    // Hides the window and discards it with all its contents. Safe from inside one of the
    // window's own handlers: the object goes when control is back in the event loop.
    void Unload() {
        if (!form_) return;
        Form* form = form_.data();
        form_.clear();
        form->hide();
        form->deleteLater();
    }

private:
    std::function<Form*()> create_;
    QPointer<Form> form_;
};

}  // namespace kestrel
