#include "link/link_controls.h"

#include <QAbstractButton>

#include "eq/my_btn.h"
#include "link/device_link.h"

namespace {

void ShowChecked(QAbstractButton* button, bool checked) {
    if (auto* skinned = qobject_cast<CMyBtn*>(button)) {
        skinned->SetChecked(checked);
    } else {
        button->setChecked(checked);
    }
}

}  // namespace

LinkControls::LinkControls(QAbstractButton* connect, QAbstractButton* usb, QAbstractButton* wifi,
                           DeviceLink& link, QObject* parent)
    : QObject(parent), connect_(connect), usb_(usb), wifi_(wifi), link_(link) {
    for (QAbstractButton* b : {connect_, usb_, wifi_}) {
        if (!qobject_cast<CMyBtn*>(b)) b->setCheckable(true);
    }
    link_.SetLinkType(0);
    ShowChoice();
    ShowChecked(connect_, false);

    // A checkable Qt button toggles itself on a click; the handlers below set
    // the state the link decides, after that toggle.
    QObject::connect(connect_, &QAbstractButton::clicked, this, [this] {
        link_.OnConnectButton();
        ShowChecked(connect_, link_.LinkState() != 0);
    });
    QObject::connect(usb_, &QAbstractButton::clicked, this, [this] { OnLinkUsb(); });
    QObject::connect(wifi_, &QAbstractButton::clicked, this, [this] { OnLinkWifi(); });

    link_.hooks.connectPressed = [this](bool pressed) { ShowChecked(connect_, pressed); };
    link_.hooks.linkChoiceEnabled = [this](bool enabled) {
        usb_->setEnabled(enabled);
        wifi_->setEnabled(enabled);
    };
}

void LinkControls::SelectLinkType(int type) {
    link_.SetLinkType(type);
    group_index_ = type;
    ShowChoice();
}

void LinkControls::ShowChoice() {
    ShowChecked(usb_, group_index_ == 0);
    ShowChecked(wifi_, group_index_ == 1);
    usb_->update();
    wifi_->update();
}
