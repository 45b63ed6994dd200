"""A shop for the reliability tests: its configuration directory, the protocol
lines of its events, a run of the host simulator, and the books read back
from the database file.

The books of the shop: every user's points are the points they started with,
plus 1000 for each transfer taken (10 yuan at 100 points a yuan), plus the
face value of each card key they redeemed, minus the price of each order they
placed, plus the price of each order refunded (status 已失败). Everything but
the transfers is in the database itself (kmxx.wxid names the redeemer, the
orders table the orderer), so the number of transfers each user was credited
comes out of the equation, and must be a whole number of at least 0."""
import json
import os
import sqlite3

ROBOT = 'wxid_bot'
FULFILMENT = 'wxid_f'
TRANSFER_POINTS = 1000  # 10 yuan at 100 points a yuan
TRANSFER_AMOUNT = '10'
KEY_FACE = 7
PRICE = 3
START_POINTS = 1000000
GENERATED_FACE = 'gen'
ARRIVED = '{"is_arrived":1,"is_received":0}'

SCHEMA = '''
CREATE TABLE yhxx(wxid TEXT,name TEXT,jf TEXT,zt TEXT,yqm TEXT);
CREATE TABLE kmxx(km TEXT,mr TEXT,zt TEXT,wxid TEXT,name TEXT);
CREATE TABLE spxx(spid TEXT,spmc TEXT,spjg TEXT,xcxbs TEXT,yqmcs TEXT,cgbs TEXT,sbbs TEXT,yqmz TEXT,yqmy TEXT,wxid TEXT,zt TEXT);
CREATE TABLE 订单列表(微信id TEXT,微信昵称 TEXT,订单名称 TEXT,订单价格 TEXT,邀请码 TEXT,状态 TEXT,时间 TEXT);
'''


def pool_key(n):
    return 'TOVUpool%08d' % n


def make_shop(directory, users, pool_keys):
    """tovu.db with `users` at START_POINTS each, `pool_keys` unused keys of
    KEY_FACE points and one product priced PRICE; cfg.ini with automatic
    collection on at 100 points a yuan. Returns the starting points by wxid."""
    db = sqlite3.connect(os.path.join(directory, 'tovu.db'))
    db.executescript(SCHEMA)
    db.executemany('INSERT INTO yhxx(wxid,name,jf) VALUES(?,?,?)',
                   [(u, 'N' + u, str(START_POINTS)) for u in users])
    db.executemany("INSERT INTO kmxx(km,mr,zt) VALUES(?,?,'未使用')",
                   [(pool_key(n), str(KEY_FACE)) for n in range(pool_keys)])
    db.execute("INSERT INTO spxx VALUES('1','P',?,'pages/p','code','ok','bad','[',']',?,'开启')",
               (str(PRICE), FULFILMENT))
    db.commit()
    db.close()
    with open(os.path.join(directory, 'cfg.ini'), 'wb') as f:
        f.write('[配置]\r\n积分比例=100\r\n自动收款=真\r\n自动回复_订单开始=ok\r\n'.encode('gbk'))
    return {u: START_POINTS for u in users}


# --- protocol lines ---------------------------------------------------------

def call(name, *args):
    return {'call': name, 'args': list(args)}


def start_lines(directory):
    return [call('LoadingInfo', 1), call('EventInit', directory.rstrip('/') + '/'), call('EventEnable')]


def window_lines_for_generation(count):
    """Opens the window on the card-key page with the generator's fields set;
    the click itself is generation_click()."""
    return [call('Menu'), {'window': 'page', 'index': 3},
            {'window': 'set', 'control': '编辑框_卡密面额', 'text': GENERATED_FACE},
            {'window': 'set', 'control': '编辑框_生成卡密数量', 'text': str(count)}]


def generation_click():
    return {'window': 'click', 'control': '按钮_生成卡密'}


def transfer(user):
    return call('EventReceivedTransfer', ROBOT, user, 'N' + user, ROBOT, TRANSFER_AMOUNT, ARRIVED)


def message(user, text, kind=1):
    return call('EventFriendMsg', ROBOT, kind, user, 'N' + user, '', '', text, 'm1', '')


def order(user, code):
    return message(user, '<msg><pagepath><![CDATA[pages/p?code=%s]]></pagepath></msg>' % code, 2002)


def result(code, success):
    return message(FULFILMENT, '%s [%s]' % ('ok' if success else 'bad', code))


def write_session(path, lines):
    with open(path, 'w', encoding='utf-8') as f:
        for line in lines:
            f.write(json.dumps(line, ensure_ascii=False) + '\n')


def host_command(host, plugin, session, timing=False):
    cmd = [host, '--plugin', plugin, '--jsonl']
    if timing:
        cmd.append('--timing')
    return cmd + [session]


# --- output -----------------------------------------------------------------

def read_output(path):
    """The complete output lines as objects (a line cut short by a kill is left out)."""
    with open(path, 'rb') as f:
        return read_output_bytes(f.read())


def read_output_bytes(data):
    records = []
    for raw in data.split(b'\n'):
        try:
            records.append(json.loads(raw.decode('utf-8')))
        except ValueError:
            pass
    return records


def closing_lines(records):
    """How many input lines were finished: every input line ends with one
    line that is neither an api nor a ui line."""
    return sum(1 for r in records if 'api' not in r and 'ui' not in r)


def count_api(records, name, text_prefix=None):
    n = 0
    for r in records:
        if r.get('api') != name:
            continue
        if text_prefix is None or (len(r['args']) > 2 and r['args'][2].startswith(text_prefix)):
            n += 1
    return n


# --- the books --------------------------------------------------------------

class Books:
    """What the database file says, and the faults found in it."""

    def __init__(self, path, start_points):
        self.faults = []
        db = sqlite3.connect(path)
        try:
            check = db.execute('PRAGMA integrity_check').fetchall()
            if check != [('ok',)]:
                self.faults.append('integrity_check: %r' % (check,))
            tables = {r[0] for r in db.execute("SELECT name FROM sqlite_master WHERE type='table'")}
            missing = {'yhxx', 'kmxx', 'spxx', '订单列表'} - tables
            if missing:
                self.faults.append('tables missing: %s' % sorted(missing))
                return
            self._read(db, start_points)
        finally:
            db.close()

    def _read(self, db, start_points):
        users = {}
        for wxid, jf in db.execute('SELECT wxid,jf FROM yhxx ORDER BY rowid'):
            if wxid in users:
                self.faults.append('two user rows for %s' % wxid)
            try:
                users[wxid] = int(jf)
            except (TypeError, ValueError):
                self.faults.append('balance of %s is not a whole number: %r' % (wxid, jf))
                users[wxid] = 0
        self.keys_used = {}
        self.keys_redeemed = 0
        for km, mr, zt, wxid in db.execute("SELECT km,mr,zt,wxid FROM kmxx WHERE mr<>?", (GENERATED_FACE,)):
            if zt == '未使用':
                if wxid:
                    self.faults.append('key %s is unused but credited to %s' % (km, wxid))
            elif zt == '已使用':
                if not wxid:
                    self.faults.append('key %s is used but credited to no one' % km)
                else:
                    self.keys_used[wxid] = self.keys_used.get(wxid, 0) + int(mr)
                    self.keys_redeemed += 1
            else:
                self.faults.append('key %s has the status %r' % (km, zt))
        for km, n in db.execute('SELECT km,count(*) FROM kmxx GROUP BY km HAVING count(*)>1'):
            self.faults.append('key %s stored %d times' % (km, n))
        self.generated = db.execute('SELECT count(*) FROM kmxx WHERE mr=?', (GENERATED_FACE,)).fetchone()[0]
        unused_generated = db.execute("SELECT count(*) FROM kmxx WHERE mr=? AND zt='未使用' AND wxid IS NULL",
                                      (GENERATED_FACE,)).fetchone()[0]
        if unused_generated != self.generated:
            self.faults.append('%d generated keys are not plain unused keys' % (self.generated - unused_generated))

        charged, refunded = {}, {}
        self.orders = 0
        self.failed = 0
        for wxid, price, code, status in db.execute('SELECT 微信id,订单价格,邀请码,状态 FROM 订单列表'):
            self.orders += 1
            if price != str(PRICE):
                self.faults.append('order %s has the price %r' % (code, price))
            charged[wxid] = charged.get(wxid, 0) + PRICE
            if status == '已失败':
                refunded[wxid] = refunded.get(wxid, 0) + PRICE
                self.failed += 1
            elif status not in ('进行中', '已完成'):
                self.faults.append('order %s has the status %r' % (code, status))
            if wxid not in users:
                self.faults.append('order %s of %s, who has no user row' % (code, wxid))

        # Each user's transfers, from the equation of the books.
        self.transfers = {}
        for wxid, jf in users.items():
            rest = (jf - start_points.get(wxid, 0) - self.keys_used.get(wxid, 0) + charged.get(wxid, 0)
                    - refunded.get(wxid, 0))
            if rest < 0 or rest % TRANSFER_POINTS:
                self.faults.append('%s: %d points do not add up (started %d, keys %d, charged %d, refunded %d: '
                                   '%d left for transfers)' % (wxid, jf, start_points.get(wxid, 0),
                                                               self.keys_used.get(wxid, 0), charged.get(wxid, 0),
                                                               refunded.get(wxid, 0), rest))
            self.transfers[wxid] = max(rest, 0) // TRANSFER_POINTS
        for wxid in set(self.keys_used) | set(charged):
            if wxid not in users:
                self.faults.append('%s was credited or charged but has no user row' % wxid)
        self.balance_total = sum(users.values())
        self.users = users

    def total_transfers(self):
        return sum(self.transfers.values()) if hasattr(self, 'transfers') else 0


def delete_generated_keys(path):
    db = sqlite3.connect(path)
    db.execute('DELETE FROM kmxx WHERE mr=?', (GENERATED_FACE,))
    db.commit()
    db.close()
