// The empty page's start: main() once the runtime is ready, as the page's own script starts it.
Module['onRuntimeInitialized'] = function () { callMain([]); };
