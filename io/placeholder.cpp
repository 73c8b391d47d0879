// Streams and data buffers live here.
