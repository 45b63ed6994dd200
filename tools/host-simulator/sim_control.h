#pragma once
// The simulator's own channel into its host library (coupler): quorvel-host
// uses it to see what the plug-in asks of the host and to decide what the
// host answers. A real host has nothing like it; the plug-in never calls it.
// Texts here are UTF-8.

extern "C" {

// Receives every line the coupler produces while the plug-in works: one
// compact JSON object per host function called ({"api":...}) and per thing
// the window shows the operator ({"ui":...}), in the order they happen. It is
// called on the plug-in's thread, so it must be safe to call from any thread.
typedef void (*Sim_Sink_t)(void* context, const char* lineJson);
void Sim_SetSink(Sim_Sink_t sink, void* context);

// What a host function returns from now on. `valueJson` is a JSON number for
// the functions that return an int, a JSON string (or null for a null
// pointer) for those that return a text. 1 when taken, 0 for an unknown
// function or a value of the wrong kind.
int Sim_SetReturn(const char* hostFunction, const char* valueJson);

// Queues the operator's answer to the next message box or input dialog;
// `button` is "ok" or "cancel". 1 when taken, 0 for another button.
int Sim_QueueReply(const char* button, const char* text);

// 1 while the plug-in's window has a driver attached.
int Sim_WindowAttached();

// Hands one protocol "window" line (a JSON object text) to the window
// attached last and returns its answer, valid until the next window line;
// nullptr when no window is attached.
const char* Sim_DriveWindow(const char* lineJson);

}  // extern "C"
