#pragma once
// The delivery of posted messages on the user-interface thread, while the toolkit's
// application object exists.

// Called on the user-interface thread once the application object exists; delivers what
// was posted before.
void StartPostedMessageDelivery();
// Called before the application object goes; drops what is still queued.
void StopPostedMessageDelivery();
