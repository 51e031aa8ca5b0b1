"""What the tests and the benchmark both drive programs with: processes under time limits, virtual
X servers with a window manager or a Wayland compositor, each closing windows as its desktop does,
and Wine. Every process started here is ended by whoever started it, also when a check fails;
every wait is a bounded poll."""

from .processes import TIMEOUT, MissingTool, TimedOut, run, start, stop, tool, wait_for
from .displays import Compositor, WindowManager, Xvfb
from .wine import Wine, wine_process
