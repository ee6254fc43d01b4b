#!/usr/bin/python3
"""Serves the page's folder on this machine's loopback at a free port until interrupted
(scripts/run --web). Says where in two lines: the address, and the SSH tunnel that reaches it
from another machine. On Ctrl+C (or TERM, HUP) it closes its socket and ends as the signal
would have ended it."""
import functools
import http.server
import os
import signal
import socket
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def end_headers(self):
        # A page built afresh is the one the browser shows on reloading.
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()


def main():
    if len(sys.argv) != 2 or not os.path.isfile(os.path.join(sys.argv[1], 'index.html')):
        sys.exit('serve-web.py: give the folder that holds the page, index.html')
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=sys.argv[1]))
    port = server.server_port
    ended_by = []

    def end(signum, _frame):
        ended_by.append(signum)
        raise KeyboardInterrupt

    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, end)
    print(f'Quorvel is served at http://127.0.0.1:{port}/ : open that address in a browser on this '
          f'machine (Ctrl+C ends it).', flush=True)
    print(f'From another machine, through an SSH tunnel: `ssh -L {port}:127.0.0.1:{port} '
          f'{socket.gethostname()}`, then the same address there.', flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    signum = ended_by[0] if ended_by else signal.SIGINT
    signal.signal(signum, signal.SIG_DFL)
    os.kill(os.getpid(), signum)


if __name__ == '__main__':
    main()
