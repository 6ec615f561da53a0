#include "INotificationRouter.h"

INotificationRouter::~INotificationRouter() {}

void INotificationRouter::RegisterConsumer(INotificationConsumer&) {}

void INotificationRouter::DeregisterConsumer(INotificationConsumer const&) {}

void INotificationRouter::ProcessNotification(CNotificationBase const&) {}

void INotificationRouter::StopProcessing() {}
