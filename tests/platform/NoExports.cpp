// A shared library without component exports, for the loader's failure path.
extern "C" int AlbNoExportsMarker() { return 1; }
