#include "netlink/NetOpContext.h"

#include "foundation/BitAndStr.h"
#include "foundation/Globals.h"
#include "netlink/TNetLink.h"

QStringList& NetOpContext::RequestLog() const {
    return link.RequestLog;
}

QStringList& NetOpContext::AnswerLog() const {
    return link.AnswerLog;
}

QStringList& NetOpContext::DeviceList() const {
    return link.DeviceList;
}

int NetOpContext::SepDevice() const {
    return Globals().SepDevice;
}

int NetOpContext::MaxDevice() const {
    return Globals().MaxDevice;
}

QString NetOpContext::Name(int address) const {
    return DeviceAddrName(address, SepDevice());
}

bool NetOpContext::StopRequested() const {
    return link.StopRequested();
}

void NetOpContext::Refresh() const {
    if (view.refresh) view.refresh();
}

bool SelectForChange(NetOpContext& ctx, int address) {
    TNetLink& link = ctx.link;
    if (link.SelectedAddr == address) return true;
    link.SelectedAddr = link.SelectDevice(address, ctx.password);
    return link.SelectedAddr == address;
}

NetBusyScope::NetBusyScope(const NetOpContext& ctx) : ctx_(ctx) {
    if (ctx_.view.busy) ctx_.view.busy(true);
    ctx_.Refresh();
}

NetBusyScope::~NetBusyScope() {
    if (ctx_.view.busy) ctx_.view.busy(false);
    ctx_.Refresh();
}

NetReceiveHold::NetReceiveHold(TNetLink& link) : link_(link) {
    link_.HoldReceiveTimer(true);
}

NetReceiveHold::~NetReceiveHold() {
    link_.HoldReceiveTimer(false);
}
