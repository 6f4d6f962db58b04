#pragma once
// The queue behind PostMessage, started and stopped by the application object.
void StartMessageQueue();
void StopMessageQueue();
// Messages posted and not yet handled or dropped.
int PendingMessageCount();
