#!/bin/sh
# Rebuilds shop.sqlite from shop.sql (needs the sqlite3 command).
set -eu
cd "$(dirname "$0")"
rm -f shop.sqlite
sqlite3 shop.sqlite < shop.sql
