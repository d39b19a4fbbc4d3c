#!/usr/bin/env python3
"""Runs a command and prints its peak resident memory in MiB (ru_maxrss of the child)."""
import os
import resource
import subprocess
import sys

proc = subprocess.run(sys.argv[1:], stdout=subprocess.PIPE, text=True)
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
sys.stdout.write(proc.stdout)
print(f"peak_rss_kib={usage.ru_maxrss}")
sys.exit(proc.returncode)
