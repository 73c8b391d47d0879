// New GL contexts, made by the host with each window. The drawing library
// counts them; the host only announces each one, without knowing who listens.
#pragma once

using ContextListener = void (*)();

// The one listener; a later call replaces it.
void listenForNewContexts(ContextListener listener);
// Called by the host right after it created a context.
void announceNewContext();
