#pragma once
// The link buttons of the main window: Connect (1001) and the USB / WIFI
// choice (1817 / 1818). The buttons are the host's; this wires their clicks
// to the device link and shows the link's state on them: Connect checked
// while connecting or connected, the choice disabled meanwhile. Skinned
// buttons (CMyBtn) show the check state their owner sets; plain Qt buttons
// are made checkable.
#include <QObject>

class QAbstractButton;
class DeviceLink;

class LinkControls : public QObject {
    Q_OBJECT
public:
    // Sets the link's connectPressed and linkChoiceEnabled hooks; USB is
    // checked and the link type is USB.
    LinkControls(QAbstractButton* connect, QAbstractButton* usb, QAbstractButton* wifi,
                 DeviceLink& link, QObject* parent = nullptr);

    void OnLinkUsb() { SelectLinkType(0); }
    void OnLinkWifi() { SelectLinkType(1); }
    // 0 USB, 1 WIFI: the checked button of the pair.
    int LinkGroupIndex() const { return group_index_; }

private:
    void SelectLinkType(int type);
    void ShowChoice();

    QAbstractButton* connect_;
    QAbstractButton* usb_;
    QAbstractButton* wifi_;
    DeviceLink& link_;
    int group_index_ = 0;
};
