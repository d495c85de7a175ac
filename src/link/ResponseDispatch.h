#pragma once
// Turns a response block (status byte, code, payload) into the link's typed
// event and hands the answer to the read sequence where the code asks for it.
// Codes without an event, and events without a receiver, do nothing.

#include "Bytes.h"

class TRV5K;

void DispatchResponse(TRV5K& link, const tduomenys& block);
