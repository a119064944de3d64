#pragma once
// The counters kept beside the key rows: an apartment's quota and count
// (k_kvr.x_key, y_key) and an entrance's common-key quota and count
// (k_pod.o_key, o_rky). Each is taken from the key rows as the file holds
// them, by one statement that counts and writes together, so that inside the
// caller's transaction (or its own) no other copy of the program on the same
// file can slip a key between the count and its write, and keys another copy
// entered are counted too.

#include <QSqlDatabase>
#include <QString>

namespace KeyCounters {

// How an apartment's quota follows its count n, with K the object's key
// quota (k_net.v_key); the count stops at the counters' top.
enum class Quota {
    // The key screen's rule: n at or above the quota becomes the quota,
    // else the larger of n and K; nothing is written once n reaches the
    // keys a panel can count.
    FollowsCount,
    // The call panels' apartment lists: n at or above the quota becomes the
    // quota; a quota above n stays, unless n is below K, which then becomes
    // the quota.
    KeptAbove,
};

// y_key := the apartment's keys, x_key by the rule. False with the reason.
bool RecountApartment(QSqlDatabase db, qint64 idKvr, Quota rule, QString* error);

// o_rky := the entrance's common keys, o_key raised to it where it is lower.
bool RecountCommon(QSqlDatabase db, qint64 idPod, QString* error);

}  // namespace KeyCounters
