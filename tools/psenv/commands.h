// Until the sched group moves into the command table (main.cpp).
