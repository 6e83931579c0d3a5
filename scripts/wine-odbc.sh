# Sourced by wine-env.sh: a real database behind ADO for the Windows tests.
# "Provider=MSDAORA;Data Source=BRENNICK_DB" reaches it: in the prefix the
# provider name MSDAORA maps to Wine's OLE DB provider for ODBC, whose ODBC
# layer is the system's unixODBC; its driver and data source files are
# private ones under build/odbc, and the data source is an SQLite file with
# a table EMP and a view `tab` listing the tables.
odbc_dir="$root/build/odbc"
export ODBCSYSINI="$odbc_dir" ODBCINI="$odbc_dir/odbc.ini"

if [ ! -f "$odbc_dir/brennick.db" ]; then
  mkdir -p "$odbc_dir"
  rm -f "$odbc_dir/brennick.db.new"
  sqlite3 "$odbc_dir/brennick.db.new" <<'SQL'
create table EMP (EMPNO integer primary key, ENAME varchar(10), HIREDATE date, SAL numeric(7, 2));
create table DEPT (DEPTNO integer primary key, DNAME varchar(14));
create table 部门 (编号 integer, 名称 varchar(20));
insert into EMP values (7369, 'SMITH', '1980-12-17', 800);
insert into DEPT values (20, 'RESEARCH');
create view tab as select name as tname, upper(type) as tabtype from sqlite_master where type in ('table', 'view');
SQL
  mv "$odbc_dir/brennick.db.new" "$odbc_dir/brennick.db"
fi
if [ ! -f "$odbc_dir/odbc.ini" ]; then
  driver="$(ls /usr/lib/*/odbc/libsqlite3odbc.so | head -n 1)"
  printf '[SQLite3]\nDescription=SQLite 3 ODBC driver\nDriver=%s\n' "$driver" >"$odbc_dir/odbcinst.ini"
  printf '[BRENNICK_DB]\nDriver=SQLite3\nDatabase=%s\n' "$odbc_dir/brennick.db" >"$odbc_dir/odbc.ini"
fi
if [ ! -f "$WINEPREFIX/brennick-msdaora" ]; then
  # Wine's MSDASQL, the OLE DB provider for ODBC.
  wine reg add 'HKCR\MSDAORA\CLSID' /ve /d '{C8B522CB-5CF3-11CE-ADE5-00AA0044773D}' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/brennick-msdaora"
fi
