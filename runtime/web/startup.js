// The page's start-up, run before the program (linked in with --pre-js): once the program is
// loaded, the browser decodes every stored picture and font it embeds (page.js), and only then
// does main() run, so that loading a picture is a plain call.
Module['onRuntimeInitialized'] = function () {
  QV.start();
};
// A fault of the page's own stops it; it says so in one line.
Module['onAbort'] = function (what) {
  QV.stopped(what);
};
// What the program says on standard error goes to the console, and its last line into the line
// that says why the program ended.
Module['printErr'] = function (text) {
  Module['lastError'] = text;
  console.warn(text);
};
